#include "sync/module/Keychain.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace kelvo::dav {
namespace {

constexpr const char* kService = "Kelvo";

// Runs the job to its end; false and `error` when the store refused.
bool finish(QKeychain::Job& job, std::string& error) {
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    if (job.error() == QKeychain::NoError)
        return true;
    error = job.errorString().toStdString();
    return false;
}

} // namespace

bool readPassword(const std::string& key, std::string& password, std::string& error) {
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(QString::fromStdString(key));
    if (!finish(job, error))
        return false;
    password = job.textData().toStdString();
    return true;
}

bool storePassword(const std::string& key, const std::string& password, std::string& error) {
    QKeychain::WritePasswordJob job(kService);
    job.setKey(QString::fromStdString(key));
    job.setTextData(QString::fromStdString(password));
    return finish(job, error);
}

} // namespace kelvo::dav
