#include "gui/app/zentrixapp.h"

int main(int argc, char* argv[]) { return zentrix::RunZentrix(argc, argv); }
