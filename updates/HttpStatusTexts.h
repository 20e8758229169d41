#pragma once

#include <QString>

// HttpStatusText: the Chinese description of an HTTP status code from 0 to
// 600, as the HTTP control reports it with its error event; a code without an
// entry (0 when no connection could be made) gives an empty text.
QString HttpStatusText(int code);
