#include "app/dialogs/TileTester.h"

TfTester* fTester = nullptr;
