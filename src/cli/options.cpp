// Command-line options of the port.
