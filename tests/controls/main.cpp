// Runs the control tests inside a QApplication, offscreen unless a platform is given.
#include "support/WidgetMain.h"

int main(int argc, char** argv)
{
    return zv::test::RunWidgetTests(argc, argv);
}
