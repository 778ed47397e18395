#include "app/form1.h"

// TODO: filled in by the issue that builds this command.
void Form1::PushButton7_Click() {}
void Form1::PushButton14_Click() {}
void Form1::PushButton8_Click() {}
