#include "app/form1.h"

void Form1::Form_QueryUnload(int &, int) {}
void Form1::Form_Unload(int &) { quitRequested = true; }
