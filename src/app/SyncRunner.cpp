#include "app/SyncRunner.h"

#include "core/Clock.h"
#include "storage/IniFile.h"
#include "sync/SyncAccount.h"
#include "sync/SyncAccountDialog.h"
#include "sync/SyncFields.h"
#include "system/ClockWatch.h"
#include "system/FileWatch.h"
#include "system/Platform.h"
#include "system/Tray.h"
#include "widgets/QtText.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace kelvo {
namespace {

constexpr int kEveryMs = 15 * 60 * 1000;
constexpr int kAfterChangeMs = 60 * 1000;
constexpr int kAfterStartMs = 3 * 1000;
constexpr int kAfterResumeMs = 10 * 1000;
constexpr int kFirstRetryMs = 30 * 1000;

QTimer* singleShot(QObject* parent, int ms) {
    auto* timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(ms);
    return timer;
}

QString joinedNames(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list.join(QStringLiteral("、"));
}

} // namespace

SyncRunner::SyncRunner(const DataPaths& paths, Platform& platform, const Clock& clock,
                       QWidget* window)
    : QObject(window), m_paths(paths), m_platform(platform), m_clock(clock), m_window(window),
      m_every(new QTimer(this)), m_afterChange(singleShot(this, kAfterChangeMs)),
      m_retry(singleShot(this, kFirstRetryMs)) {
    m_every->setInterval(kEveryMs);
    for (QTimer* timer : {m_every, m_afterChange, m_retry})
        connect(timer, &QTimer::timeout, this, &SyncRunner::syncNow);
}

SyncRunner::~SyncRunner() {
    if (m_worker)
        m_worker->wait();
}

void SyncRunner::start() {
    if (m_started || !readSyncSettings(TIniFile(m_paths.config())).set())
        return;
    m_started = true;
    m_every->start();
    connect(&m_platform.dataFileWatch, &FileWatch::changed, this, [this] {
        if (stampOf(m_paths.dataFile()) != m_syncedVersion)
            m_afterChange->start();
    });
    connect(&m_platform.clockWatch, &ClockWatch::jumped, this,
            [this] { QTimer::singleShot(kAfterResumeMs, this, &SyncRunner::syncNow); });
    QTimer::singleShot(kAfterStartMs, this, &SyncRunner::syncNow);
}

void SyncRunner::accountSet(const QString& password) {
    if (password.isEmpty())
        m_password.reset();
    else
        m_password = password.toStdString();
    m_toldFailures.clear();
    m_failures = 0;
    if (m_started)
        return syncNow();
    start();
}

void SyncRunner::attach(SyncAccountDialog& dialog) {
    connect(&dialog, &SyncAccountDialog::syncRequested, this, &SyncRunner::syncNow);
    connect(&dialog, &SyncAccountDialog::accountSaved, this, &SyncRunner::accountSet);
    connect(this, &SyncRunner::synced, &dialog, &SyncAccountDialog::showOutcome);
}

void SyncRunner::syncNow() {
    if (m_worker) {
        m_again = true;
        return;
    }
    m_afterChange->stop();
    m_retry->stop();
    auto* outcome = new Outcome;
    const std::string password = m_password.value_or(std::string());
    m_worker = QThread::create([this, outcome, password] { *outcome = runSync(password); });
    connect(m_worker, &QThread::finished, this, [this, outcome] {
        m_worker->deleteLater();
        m_worker = nullptr;
        finished(*outcome);
        delete outcome;
    });
    m_worker->start(QThread::LowPriority);
}

// On the worker thread: reads only the files and the server.
SyncRunner::Outcome SyncRunner::runSync(const std::string& given) const {
    Outcome outcome;
    try {
        const SyncSettings account = readSyncSettings(TIniFile(m_paths.config()));
        std::string error;
        const std::string password = given.empty() ? accountPassword(account, error) : given;
        if (password.empty() && !error.empty()) {
            outcome.noPassword = true;
            outcome.error = error;
            return outcome;
        }
        ModuleServer server(davAccount(account, password), account.calendar,
                            account.syncCollection);
        outcome.report = syncReminders(server, m_paths.dir, m_clock.read());
    } catch (const SyncError& e) {
        outcome.error = e.what();
        outcome.failure = e.failure();
    } catch (const std::exception& e) {
        outcome.error = e.what();
    }
    return outcome;
}

void SyncRunner::finished(const Outcome& outcome) {
    m_syncedVersion = stampOf(m_paths.dataFile());
    if (outcome.noPassword)
        return askPassword();
    tell(outcome);
    if (outcome.report) {
        m_failures = 0;
        m_toldFailures.clear();
    } else {
        // 30 s, 1, 2, 4 … minutes, at most the regular 15.
        const int wait = std::min(kEveryMs, kFirstRetryMs << std::min(m_failures++, 5));
        m_retry->start(wait);
    }
    if (std::exchange(m_again, false))
        syncNow();
}

void SyncRunner::tell(const Outcome& outcome) {
    if (!outcome.report) {
        emit synced(
            QStringLiteral("同步没有完成：%1。").arg(QString::fromStdString(outcome.error)));
        return tellFailure(outcome);
    }
    const SyncReport& report = *outcome.report;
    emit synced(
        QStringLiteral("同步完成：上传 %1 个，下载 %2 个，本机删除 %3 个，服务器上删除 %4 个。")
            .arg(report.uploaded)
            .arg(report.downloaded)
            .arg(report.removedHere)
            .arg(report.removedThere));
    if (!report.conflicts.empty())
        m_platform.tray.showBalloon(
            programTitle(),
            QStringLiteral(
                "同步时这些提醒在两处都改过：%1。服务器上的版本已保留，本机的版本另存为“%2”。")
                .arg(joinedNames(report.conflicts),
                     QString::fromUtf8(kConflictMark.data(), kConflictMark.size())),
            10);
    if (!report.unexpressible.empty())
        m_platform.tray.showBalloon(
            programTitle(),
            QStringLiteral("不能作为提醒的日程：%1").arg(joinedNames(report.unexpressible)), 10);
}

void SyncRunner::tellFailure(const Outcome& outcome) {
    if (!m_toldFailures.insert(static_cast<int>(outcome.failure)).second)
        return;
    m_platform.tray.showBalloon(programTitle(),
                                QStringLiteral("同步没有完成：%1。稍后会再试，本机的提醒都还在。")
                                    .arg(QString::fromStdString(outcome.error)),
                                10);
}

void SyncRunner::askPassword() {
    const SyncSettings account = readSyncSettings(TIniFile(m_paths.config()));
    bool ok = false;
    const QString password = QInputDialog::getText(
        m_window, programTitle(),
        QStringLiteral("没有可用的密钥环，密码无法保存。请输入 %1 在同步服务器上的密码：")
            .arg(QString::fromStdString(account.user)),
        QLineEdit::Password, {}, &ok);
    if (!ok || password.isEmpty())
        return;
    m_password = password.toStdString();
    syncNow();
}

} // namespace kelvo
