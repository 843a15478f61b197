#pragma once

#include "Resultat_Changement.h"
#include "Verrou_Log.h"

#include <QByteArray>
#include <QString>

#include <functional>

class Log_Ouvert;
class Plateforme;
class QWidget;

// What stands between a change and the log: one program per log, the lock held from start-up
// until the program ends (a change of station takes the new log's lock before the old one
// goes); a log another machine holds, taken over or opened for reading only as the operator
// answers; a log its owner made read-only; and a log an editor saved in its own form, written
// back in the program's.
class Garde_Log
{
public:
    // statut: a short note for the main window's status line.
    Garde_Log(Plateforme& plateforme, std::function<void(const QString&)> statut)
        : m_plateforme(plateforme), m_statut(std::move(statut))
    {
    }

    // Done when the lock of this log is held, taken here when it is free. Otherwise it says
    // why (the message ends with suite), and the log, its journal and the files beside it are
    // left alone. A log another machine holds is asked about once (over parent).
    Resultat_Changement Tenir(const QString& log, const QString& suite, QWidget* parent);
    // The lock of this log taken if it is free, without a question: false when it is not.
    bool Prendre_Sans_Question(const QString& log);
    // After a Prendre refused because another machine holds the log: the operator is asked
    // whether to open it anyway. Oui takes the lock from that machine (true, said in the status
    // line); Non opens the log for reading only, and every change is then refused.
    bool Ouvrir_Malgre_Verrou(Verrou_Log& verrou, const QString& log, QWidget* parent);
    // Before any change of the open log: its lock held, the log writable (one its owner made
    // read-only is refused with a message naming it), and a log saved again by a text editor
    // written back in the program's form with the editor's version kept (said). Not done when
    // the change may not go on, the message ending with suite; nothing has been written then.
    // lu: the log's bytes as the change has just read them, not checked a second time.
    Resultat_Changement Preparer(Log_Ouvert& log, const QString& suite, const QByteArray* lu, QWidget* parent);

    bool Tient(const QString& log) const { return m_verrou.Tient(log); }
    // The lock just taken becomes the one held, the one it held goes; or it holds none.
    void Garder(Verrou_Log&& verrou) { m_verrou = std::move(verrou); }
    void Rendre() { m_verrou.Rendre(); }

private:
    Plateforme& m_plateforme;
    std::function<void(const QString&)> m_statut;
    Verrou_Log m_verrou;
    // The log opened for reading only, and the machine whose program holds it.
    QString m_lectureSeule, m_machine;
};
