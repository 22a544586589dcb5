#include "sync/SyncAccountDialog.h"

#include "storage/IniFile.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace kelvo {
namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// What a failed discovery means, as the user reads it.
QString testFailure(const DavResult& result) {
    switch (result.failure) {
    case DavFailure::Password:
        return QStringLiteral("用户名或密码不对。");
    case DavFailure::NotCalDav:
        return QStringLiteral("那里没有 CalDAV 服务。");
    case DavFailure::Certificate:
        return QStringLiteral("证书不受信任。它的 SHA-256 指纹是：\n%1\n"
                              "只有确认这是你的服务器的证书时才选“信任此证书”。")
            .arg(text(result.certificate));
    default:
        return text(failureText(result)) + QStringLiteral("。");
    }
}

// The password typed, else (an account already set) the stored one. Called
// on the worker thread: the secret store may take its time.
std::string passwordFor(const SyncSettings& account, const std::string& typed) {
    if (!typed.empty())
        return typed;
    std::string error;
    return accountPassword(account, error);
}

} // namespace

SyncAccountDialog::SyncAccountDialog(const DataPaths& paths, QWidget* parent)
    : QDialog(parent), m_paths(paths), m_url(new QLineEdit(this)), m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this)), m_calendar(new QComboBox(this)), m_status(new QLabel(this)),
      m_test(new QPushButton(QStringLiteral("测试连接"), this)),
      m_trust(new QPushButton(QStringLiteral("信任此证书"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this)),
      m_syncNow(new QPushButton(QStringLiteral("立即同步"), this)) {
    setWindowTitle(QStringLiteral("同步"));
    buildControls();
    const SyncSettings account = readSyncSettings(TIniFile(m_paths.config()));
    m_url->setText(text(account.url));
    m_user->setText(text(account.user));
    m_certificate = account.certificate;
    if (account.set()) {
        m_password->setPlaceholderText(QStringLiteral("不改就留空（用密钥环中的密码）"));
        m_calendar->addItem(text(account.calendar), text(account.calendar));
    }
    m_calendar->addItem(QStringLiteral("新建日历“Kelvo”"), QString());
    m_syncNow->setEnabled(account.set());
}

SyncAccountDialog::~SyncAccountDialog() {
    if (m_worker)
        m_worker->wait();
}

void SyncAccountDialog::buildControls() {
    m_url->setObjectName(QStringLiteral("url"));
    m_user->setObjectName(QStringLiteral("user"));
    m_password->setObjectName(QStringLiteral("password"));
    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_status->setObjectName(QStringLiteral("status"));
    m_syncNow->setObjectName(QStringLiteral("syncNow"));
    m_trust->setObjectName(QStringLiteral("trust"));
    m_url->setPlaceholderText(QStringLiteral("https://cloud.example.org/remote.php/dav/"));
    m_password->setEchoMode(QLineEdit::Password);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_trust->hide();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("服务器地址："), m_url);
    form->addRow(QStringLiteral("用户名："), m_user);
    form->addRow(QStringLiteral("密码："), m_password);
    form->addRow(QStringLiteral("日历："), m_calendar);
    auto* tests = new QHBoxLayout;
    tests->addWidget(m_test);
    tests->addWidget(m_trust);
    tests->addStretch();
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_syncNow, QDialogButtonBox::ActionRole);
    buttons->addButton(m_save, QDialogButtonBox::ApplyRole);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(tests);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    connect(m_test, &QPushButton::clicked, this, &SyncAccountDialog::testClick);
    connect(m_trust, &QPushButton::clicked, this, &SyncAccountDialog::trustClick);
    connect(m_save, &QPushButton::clicked, this, &SyncAccountDialog::saveClick);
    connect(m_syncNow, &QPushButton::clicked, this, [this] {
        setStatus(QStringLiteral("正在同步……"));
        emit syncRequested();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

SyncSettings SyncAccountDialog::entered() const {
    return {m_url->text().trimmed().toStdString(),
            m_user->text().trimmed().toStdString(),
            {},
            m_certificate,
            true};
}

void SyncAccountDialog::runOffThread(std::function<void()> work, std::function<void()> done) {
    for (QPushButton* button : {m_test, m_trust, m_save})
        button->setEnabled(false);
    m_worker = QThread::create(std::move(work));
    m_worker->setParent(this); // gone with the dialog, which waits for it
    connect(m_worker, &QThread::finished, this, [this, done = std::move(done)] {
        m_worker->deleteLater();
        m_worker = nullptr;
        for (QPushButton* button : {m_test, m_trust, m_save})
            button->setEnabled(true);
        done();
        emit workDone();
    });
    m_worker->start();
}

void SyncAccountDialog::testClick() {
    const SyncSettings account = entered();
    if (account.url.empty())
        return setStatus(QStringLiteral("请填写服务器地址。"));
    setStatus(QStringLiteral("正在连接……"));
    m_trust->hide();
    auto found = std::make_shared<FoundCalendars>();
    runOffThread(
        [account, typed = m_password->text().toStdString(), found] {
            try {
                *found = findCalendars(account, passwordFor(account, typed));
            } catch (const SyncError& e) {
                found->result = {e.failure(), 0, e.what(), {}};
            }
        },
        [this, found] { tested(*found); });
}

void SyncAccountDialog::tested(const FoundCalendars& found) {
    if (found.result.failure == DavFailure::None && !found.result.error.empty())
        return setStatus(text(found.result.error)); // the module could not be loaded
    if (!found.result.ok()) {
        m_offered = found.result.certificate;
        m_trust->setVisible(found.result.failure == DavFailure::Certificate);
        return setStatus(testFailure(found.result));
    }
    offerCalendars(found.calendars);
    setStatus(QStringLiteral("找到 %1 个日历。").arg(found.calendars.size()));
}

void SyncAccountDialog::offerCalendars(const std::vector<DavCalendar>& calendars) {
    const QString current = m_calendar->currentData().toString();
    m_calendar->clear();
    for (const DavCalendar& calendar : calendars) {
        if (calendar.events)
            m_calendar->addItem(text(calendar.name.empty() ? calendar.href : calendar.name),
                                text(calendar.href));
    }
    m_calendar->addItem(QStringLiteral("新建日历“Kelvo”"), QString());
    const int kept = m_calendar->findData(current);
    if (kept >= 0)
        m_calendar->setCurrentIndex(kept);
}

void SyncAccountDialog::trustClick() {
    m_certificate = m_offered;
    m_trust->hide();
    testClick();
}

void SyncAccountDialog::saveClick() {
    const SyncSettings account = entered();
    if (account.url.empty() || account.user.empty())
        return setStatus(QStringLiteral("请填写服务器地址和用户名。"));
    setStatus(QStringLiteral("正在保存……"));
    const std::string wanted = m_calendar->currentData().toString().toStdString();
    auto result = std::make_shared<SyncSetupResult>();
    auto error = std::make_shared<std::string>();
    auto password = std::make_shared<std::string>();
    runOffThread(
        [this, account, wanted, typed = m_password->text().toStdString(), result, error, password] {
            try {
                *password = passwordFor(account, typed);
                *result = setUpSyncAccount(m_paths.dir, account, *password, wanted);
            } catch (const std::exception& e) {
                *error = e.what();
            }
        },
        [this, result, error, password] {
            if (!error->empty())
                return setStatus(QStringLiteral("没有保存：%1。").arg(text(*error)));
            saved(*result);
            emit accountSaved(result->keyringError.empty() ? QString() : text(*password));
        });
}

void SyncAccountDialog::saved(const SyncSetupResult& result) {
    offerCalendars({});
    m_calendar->insertItem(0, text(result.account.calendar), text(result.account.calendar));
    m_calendar->setCurrentIndex(0);
    m_syncNow->setEnabled(true);
    QString status =
        result.madeCalendar ? QStringLiteral("已在服务器上新建日历“Kelvo”。") : QString();
    status += QStringLiteral("帐户已保存，同步马上开始。");
    if (!result.keyringError.empty())
        status += QStringLiteral("没有可用的密钥环（%1），密码没有保存：这次运行中会用它，"
                                 "下次启动时会再问。")
                      .arg(text(result.keyringError));
    setStatus(status);
}

void SyncAccountDialog::showOutcome(const QString& outcome) {
    setStatus(outcome);
}

void SyncAccountDialog::setStatus(const QString& status) {
    m_status->setText(status);
}

} // namespace kelvo
