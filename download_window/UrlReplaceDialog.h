#pragma once

#include <QDialog>

class DownloadList;
class Prompts;
class QLabel;
class QLineEdit;
class QPushButton;

// UrlReplace: the batch URL-replace dialog. "替换" replaces the first text
// box's text by the second's in every row's address and referring page,
// closes the dialog and says that it is done (and how many rows kept their
// address because another row had the new one); "取消" closes it unchanged.
class UrlReplaceDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit UrlReplaceDialog(DownloadList &list, Prompts &prompts, QWidget *parent = nullptr);

private:
    void replace();

    DownloadList &m_list;
    Prompts &m_prompts;
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
};
