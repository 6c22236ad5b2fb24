// Resource table of the executable (accelerators, icon).
