#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// One running copy per executable path and user. The first process claims a
// local socket named after its (case-folded) executable path in the user's
// runtime folder; a later process that finds it tells the first to come to the
// front and then exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& executablePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the only one for the path and now owns the
    // name. False when another instance runs; it has been asked to come forward.
    bool claim();

    // The socket's full path derived from an executable path (exposed for tests).
    static QString keyFor(const QString& executablePath);
    // This user's runtime folder (XDG_RUNTIME_DIR or Qt's private fallback).
    static QString runtimeFolder();

signals:
    // Another start of the same executable asked this instance to come forward.
    void activationRequested();

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
