#include "app/CommandLine.h"

int main(int argc, char** argv) {
    return RunBlurtle(argc, argv);
}
