#pragma once

// The whole life of the program: prepares the data folder, settings, log and libraries,
// refuses a second instance, shows the main window and shuts down. Returns the exit code.
int RunKasumiro();
