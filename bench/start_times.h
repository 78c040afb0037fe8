#pragma once
// How long our programs take to start, against the floor of any Windows program: the console
// program printing its version against a console program that does nothing, and the main
// window shown against an empty dialog shown. Each is the fastest of several alternating
// runs, process start included; the spread is printed beside it.

// `runs` pairs of each, in turn first.
void PrintStartTimes(int runs);
