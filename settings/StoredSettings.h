#pragma once

#include "common/DownloadMethod.h"
#include "common/SameNamePolicy.h"

#include <QString>

class SettingsStore;

// Every key of the settings table as a read with its default and a write.
// Windows use these; none reads the store directly. A stored text that is not
// a number where a number is expected reads as the key's default.
class StoredSettings
{
public:
    explicit StoredSettings(SettingsStore &store) : m_store(store) {}

    // Section "设置".
    DownloadMethod downloadMethod() const; // default 2, Parallel
    void saveDownloadMethod(DownloadMethod method);
    int proxyEnabled() const; // default 0
    void saveProxyEnabled(int enabled);
    QString proxyAddress() const; // default empty
    void saveProxyAddress(const QString &address);
    QString proxyPort() const; // default empty
    void saveProxyPort(const QString &port);
    double maxFileSizeMB() const; // default 10
    void saveMaxFileSizeMB(double megabytes);
    int askSaveFolder() const; // default 1
    void saveAskSaveFolder(int ask);
    QString saveFolder() const; // default the root's "12345"
    void saveSaveFolder(const QString &folder);
    QString lastOpenedFolder() const; // default the program's folder
    void saveLastOpenedFolder(const QString &folder);

    // Section "下载": zero-based position in the thread-count box.
    int threadPosition() const; // default 2 (three workers)
    void saveThreadPosition(int position);

    // Section "专利下载": the caption of the rule. The stored text, trimmed,
    // is tried against "跳过" and "覆盖"; any other text reads as "重命名".
    SameNamePolicy duplicateNamePolicy() const; // default "重命名"
    void saveDuplicateNamePolicy(SameNamePolicy policy);

    // Window layout, in the section named after the window.
    QString layoutResolution(const QString &window) const; // default "000"
    void saveLayoutResolution(const QString &window, const QString &resolution);
    int layoutTop(const QString &window) const;    // default 100
    int layoutLeft(const QString &window) const;   // default 100
    int layoutWidth(const QString &window) const;  // default 15000
    int layoutHeight(const QString &window) const; // default 10000
    void saveLayoutGeometry(const QString &window, int top, int left, int width, int height);

    // Section "Form_Copy_Move".
    QString copyMoveDestination() const; // default the program's folder
    void saveCopyMoveDestination(const QString &folder);
    int copyMoveOpIndex() const; // default 4
    void saveCopyMoveOpIndex(int index);

    static QString defaultSaveFolder();

private:
    QString text(const QString &section, const QString &key, const QString &defaultValue) const;
    double number(const QString &section, const QString &key, double defaultValue) const;
    int wholeNumber(const QString &section, const QString &key, int defaultValue) const;
    void save(const QString &section, const QString &key, const QString &value);

    SettingsStore &m_store;
};

// The stored text as a number, or the default when it is not a finite number.
double SettingTextToNumber(const QString &text, double defaultValue);
