#pragma once
// The job object every encoder process is put in: it is closed - and with it
// every encoder killed, suspended or not - when this program ends, however
// it ends.
#include <windows.h>

// Adds `process` to the program's job (made on the first call); false when
// the system refused, and the process then runs outside it.
bool AddToEncoderJob(HANDLE process);
