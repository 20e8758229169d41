#include "tests/support/ShellRecorder.h"

bool ShellRecorder::record(Kind kind, const QString &target)
{
    calls.append({kind, target});
    return answers.isEmpty() ? true : answers.dequeue();
}
