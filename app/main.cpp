#include "app/StartUp.h"

int main(int argc, char* argv[]) { return startup::main(argc, argv); }
