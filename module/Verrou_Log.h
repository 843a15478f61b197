#pragma once

#include <QDateTime>
#include <QString>

#include <memory>

class QLockFile;

// One program per log: a lock file beside the log (".<log>.lock"), held for as long as the
// program works on that log, so that a second window of the program (or the other install)
// never writes it nor its journal. A lock left by a process of this machine that no longer runs
// is taken over; one that names another machine (a log in a folder synced between computers)
// is taken only once the operator agreed.
class Verrou_Log
{
public:
    Verrou_Log();
    ~Verrou_Log();
    // A held lock moves with its object: the new holder has it before the old one is let go.
    Verrou_Log(Verrou_Log&& autre) noexcept;
    Verrou_Log& operator=(Verrou_Log&& autre) noexcept;

    static QString Chemin_Verrou(const QString& log);

    // Takes the lock of this log at once, without waiting; true when it is held. A lock held
    // for another log is let go only once this one is taken. With reprendre, a lock another
    // machine holds is taken from it (the operator said so).
    bool Prendre(const QString& log, bool reprendre = false);
    // Lets the lock go; its file is removed.
    void Rendre();
    // True when this object holds the lock of this log.
    bool Tient(const QString& log) const;
    // The log whose lock is held, empty when none.
    QString Log() const { return m_log; }

    // After a refused Prendre: true when another running program holds the lock, and its
    // process number (0 when the lock file does not say).
    bool Occupe() const { return m_occupe; }
    qint64 Processus() const { return m_processus; }
    // After a refused Prendre: true when the lock names another machine; its name, and since
    // when its program holds the log (the lock file's time).
    bool Ailleurs() const { return !m_machine.isEmpty(); }
    QString Machine() const { return m_machine; }
    QDateTime Depuis() const { return m_depuis; }
    // After a refused Prendre, the French message for the user: which log, who has it and
    // what to do, or why the lock file could not be made.
    QString Refus() const { return m_refus; }

private:
    std::unique_ptr<QLockFile> m_verrou;
    QString m_log;
    bool m_occupe = false;
    qint64 m_processus = 0;
    QString m_machine;
    QDateTime m_depuis;
    QString m_refus;
};
