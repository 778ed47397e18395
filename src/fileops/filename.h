#pragma once

#include <QString>

// The file name of a path: the text after its last "\" or "/" (paths stored by the Windows
// version separate with "\"). The whole path when it has neither; "" when it ends in one.
QString fileNameOf(const QString &path);
