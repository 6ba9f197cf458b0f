// Whether the program runs under Wine rather than on Windows, for the few
// places where the two differ in a way the program must work around.
#pragma once

bool RunningUnderWine();
