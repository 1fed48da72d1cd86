#include "app/startup.h"

int main(int argc, char** argv) {
    return tarrow::app::run(argc, argv);
}
