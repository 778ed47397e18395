#include "app/form1.h"

// TODO: filled in by the issue that builds this command.
void Form1::Timer1_Timer() {}
void Form1::onHotKey(int) {}
