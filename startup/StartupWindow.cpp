#include "startup/StartupWindow.h"

#include "common/SessionSettings.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/SystemDescription.h"
#include "platform/WindowDirectory.h"
#include "search_window/SearchWindow.h"
#include "settings/SettingsProcedures.h"
#include "startup/BrowserEmulation.h"
#include "startup/StartupTexts.h"
#include "updates/UpdateCheck.h"
#include "updates/XmlHttp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kUpdateDelayMs = 100;

} // namespace

StartupWindow::StartupWindow(const StartupServices &services, QWidget *parent) : QWidget(parent), m_services(services)
{
    setObjectName(kStartupWindowName);
    setWindowTitle(kProgramTitle);
    setWindowIcon(QApplication::windowIcon());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/cover.png")));
    Image1->setAccessibleName(kCoverPictureName);

    const ProgramVersion version = RunningVersion();
    Label2 = new QLabel(kVersionPrefix + VersionText(version), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4 = new QLabel(kNotice, this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setWordWrap(true);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->installEventFilter(this);
    Label1->hide();
    for (QLabel *label : {Label2, Label4, Label1})
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    Label1->setStyleSheet(QStringLiteral("color: #ffe066; background: transparent; text-decoration: underline;"));

    Command1 = new QPushButton(kSearchAndDownload, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(kSearchAndDownload);
    Command3 = new QPushButton(kQuit, this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAccessibleName(kQuit);
    Label2->setAccessibleName(Label2->text());
    Label4->setAccessibleName(kNotice);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kUpdateDelayMs);
    uXMLHTTP2 = new XmlHttp(services.windows.network, this);
    uXMLHTTP2->setObjectName(QStringLiteral("uXMLHTTP2"));
    m_updateCheck = new UpdateCheck(*uXMLHTTP2, services.updateBase, version, this);

    connect(Command1, &QPushButton::clicked, this, &StartupWindow::openSearchWindow);
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, m_updateCheck, &UpdateCheck::start);
    connect(m_updateCheck, &UpdateCheck::newerVersion, this, &StartupWindow::showNewerVersion);
    connect(m_updateCheck, &UpdateCheck::networkTrouble, this,
            [this] { m_services.windows.prompts.notify(kKeepNetworkMessage, kProgramTitle, PromptIcon::Error); });

    // The search window, loaded whenever it is asked for and not loaded.
    const DownloadWindowServices windows = services.windows;
    SetWindowLoader(kSearchWindowName, [windows]() -> QWidget * { return new SearchWindow(windows); });

    placeControls();

    // What the rest of the program needs from the start.
    m_osDescription = OsDescription();
    Timer1->start();
    ReadStartupSettings(services.windows.stored, services.windows.session);
    BrowserEmulation(services.registry, ExecutableValueName(), QStringLiteral("IE10"), true);
}

StartupWindow::~StartupWindow() = default;

QString StartupWindow::programPage() const
{
    return m_updateCheck->programPage();
}

// The window takes the picture's size; the texts and buttons lie on it.
void StartupWindow::placeControls()
{
    const QSize picture = Image1->pixmap().isNull() ? QSize(480, 300) : Image1->pixmap().size();
    Image1->setGeometry(QRect(QPoint(0, 0), picture));
    setFixedSize(picture);
    const int margin = 16;
    const int width = picture.width() - 2 * margin;
    Label2->setGeometry(margin, picture.height() - 150, width, 20);
    Label4->setGeometry(margin, picture.height() - 126, width, 40);
    Label1->setGeometry(margin, picture.height() - 82, width, 20);
    const QSize button(120, 30);
    Command3->setGeometry(picture.width() - margin - button.width(), picture.height() - margin - button.height(),
                          button.width(), button.height());
    Command1->setGeometry(Command3->x() - 12 - button.width(), Command3->y(), button.width(), button.height());
}

void StartupWindow::openSearchWindow()
{
    hide();
    ShowWindow(kSearchWindowName);
}

void StartupWindow::showNewerVersion(const QString &version)
{
    Label1->setText(kNewVersionPrefix + version);
    Label1->setAccessibleName(Label1->text());
    Label1->show();
    m_services.windows.prompts.notify(kNewVersionMessage, kProgramTitle, PromptIcon::Information);
    m_services.windows.shell.openUrl(programPage());
}

bool StartupWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        m_services.windows.shell.openUrl(programPage());
    return QWidget::eventFilter(watched, event);
}

// Closing the startup window, by its button or otherwise, ends the program.
void StartupWindow::closeEvent(QCloseEvent *event)
{
    // The main windows close first, each by its own closing steps (its
    // settings kept, its transfers stopped), so that ending the program never
    // cuts a download unasked. A window its user keeps open (running
    // downloads, the close question answered No) keeps the program running.
    for (const QString &name : {kSearchWindowName, kDownloadWindowName}) {
        QWidget *window = LoadedWindow(name);
        if (window && !window->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    if (m_services.endProgram)
        m_services.endProgram();
}
