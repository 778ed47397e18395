#include "app/form1.h"

// TODO: filled in by the issue that builds this command.
void Form1::PushButton3_Click() {}
void Form1::PushButton13_Click() {}
