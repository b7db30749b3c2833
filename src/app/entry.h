// The process entry: command line, window, start-up in order, main loop.
#pragma once

int runSkarn(int argc, char** argv);
