#pragma once
int runFilter(int argc, char* argv[]);
