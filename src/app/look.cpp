#include "app/form1.h"
#include "app/look.h"

#include "platform/window.h"

#include <QFileInfo>

bool FileExists(const QString &path)
{
    // TODO(look): the skin and pointer issue completes this file.
    return !path.isEmpty() && QFileInfo(path).lastModified().isValid();
}

void Form1::LoadSkin() {}
void Form1::Form_MouseMove() {}
void Form1::PushButton_MouseMove(Button) {}
