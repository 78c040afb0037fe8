#pragma once
// What every test program does before its tests: its output unbuffered, so that a test that
// dies still shows how far it came, and a crash reported on the error output by its code and
// address, then the process ended, instead of a debugger started that would wait for someone.

void PrepareTestProcess();
