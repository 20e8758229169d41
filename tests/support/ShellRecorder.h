#pragma once

#include "platform/Shell.h"

#include <QList>
#include <QQueue>
#include <QString>

// A shell for tests: records each request and answers from a scripted queue
// (true when the queue is empty).
class ShellRecorder final : public Shell
{
public:
    enum class Kind { OpenFile, SelectInFileManager, OpenFolder, OpenInTextEditor, OpenUrl };

    struct Call
    {
        Kind kind;
        QString target;
        bool operator==(const Call &other) const = default;
    };

    bool openFile(const QString &path) override { return record(Kind::OpenFile, path); }
    bool selectInFileManager(const QString &path) override { return record(Kind::SelectInFileManager, path); }
    bool openFolder(const QString &path) override { return record(Kind::OpenFolder, path); }
    bool openInTextEditor(const QString &path) override { return record(Kind::OpenInTextEditor, path); }
    bool openUrl(const QString &url) override { return record(Kind::OpenUrl, url); }

    QList<Call> calls;
    QQueue<bool> answers;

private:
    bool record(Kind kind, const QString &target);
};
