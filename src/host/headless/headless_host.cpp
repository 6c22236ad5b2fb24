// The headless host: virtual clock, scripted input, trace.
