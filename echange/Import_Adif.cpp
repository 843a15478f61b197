#include "Import_Adif.h"

#include "Apparence.h"
#include "Controle_Nomme.h"
#include "Enregistrement.h"
#include "FichierLog.h"
#include "Fichier_Import.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sous_Programmes.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

using namespace Apparence;
using Echange_Adif::Qso_Import;
using Echange_Adif::Verdict;

namespace {

} // namespace

// The preview's rows, straight from the verdicts: a table of tens of thousands of QSOs is
// shown without making a widget item for each cell.
class Modele_Apercu : public QAbstractTableModel
{
public:
    explicit Modele_Apercu(QObject* parent) : QAbstractTableModel(parent) {}

    void Remplir(const QList<Qso_Import>* qsos)
    {
        beginResetModel();
        m_qsos = qsos;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() || !m_qsos ? 0 : int(m_qsos->size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 6; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const char* const titres[] = {"N°", "Date", "Indicatif", "KVRT", "Type d'activité", "Verdict"};
        return QString::fromUtf8(titres[section]);
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!m_qsos || !index.isValid() || index.row() >= m_qsos->size())
            return {};
        const Qso_Import& q = m_qsos->at(index.row());
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case 0: return q.numero;
            case 1: return q.date;
            case 2: return q.indicatif;
            case 3: return q.attente && !q.reference.isEmpty() ? QStringLiteral("*") + q.reference : q.reference;
            case 4: return q.type;
            case 5: return Echange_Adif::Texte_Verdict(q);
            }
        }
        if (role == Qt::ToolTipRole && index.column() == 5)
            return Echange_Adif::Texte_Verdict(q);
        // What is not added is greyed; a castle already contacted stands out as the warning
        // of the entry area would make it.
        if (role == Qt::ForegroundRole && !q.Ajoute())
            return QColor(Qt::darkGray);
        if (role == Qt::BackgroundRole && q.verdict == Verdict::Ajoute_Deja_Vu)
            return QColor(255, 224, 160);
        return {};
    }

private:
    const QList<Qso_Import>* m_qsos = nullptr;
};

Import_Adif::Import_Adif(Sous_Programmes& sp_, QWidget* parent) : QWidget(parent, Qt::Window), sp(sp_)
{
    setObjectName(QStringLiteral("Import_Adif"));
    setWindowTitle(QStringLiteral("Importer un fichier ADIF"));
    setAttribute(Qt::WA_DeleteOnClose);

    NOMME(QLabel, Label_Fichier, QStringLiteral("Aucun fichier choisi"), this);
    Label_Fichier->setTextInteractionFlags(Qt::TextSelectableByMouse);
    NOMME(QPushButton, Choisir, QStringLiteral("&Choisir un fichier…"), this);

    NOMME(QGroupBox, Frame_Options, QStringLiteral("QSO importés"), this);
    NOMME(QLabel, Label_Contacte, QStringLiteral("Chateau c&ontacté (SIG KVRT) :"), Frame_Options);
    NOMME(QComboBox, Type_Contacte, Frame_Options);
    Type_Contacte->addItems(Enregistrement::Types_Activite());
    Type_Contacte->setCurrentIndex(0);
    Etiqueter(Label_Contacte, Type_Contacte);
    NOMME(QLabel, Label_Active, QStringLiteral("Chateau acti&vé (MY_SIG KVRT) :"), Frame_Options);
    NOMME(QComboBox, Type_Active, Frame_Options);
    Type_Active->addItems(Enregistrement::Types_Activite());
    Type_Active->setCurrentIndex(3);
    Etiqueter(Label_Active, Type_Active);
    NOMME(QCheckBox, Attente_Validation, QStringLiteral("&Marquer les QSO ajoutés « * » (en attente de validation)"), Frame_Options);
    NOMME(QCheckBox, Chercher_Texte,
          QStringLiteral("Chercher une &référence dans COMMENT, NOTES et QSLMSG (QSO sans SIG ni MY_SIG KVRT)"), Frame_Options);
    auto* grille = new QGridLayout(Frame_Options);
    grille->addWidget(Label_Contacte, 0, 0);
    grille->addWidget(Type_Contacte, 0, 1);
    grille->addWidget(Label_Active, 1, 0);
    grille->addWidget(Type_Active, 1, 1);
    grille->addWidget(Attente_Validation, 2, 0, 1, 3);
    grille->addWidget(Chercher_Texte, 3, 0, 1, 3);
    // Other loggers may spell the Challenge's name their own way in SIG and MY_SIG.
    NOMME(QLabel, Label_Noms_Sig, QStringLiteral("Valeurs de &SIG / MY_SIG du Challenge :"), Frame_Options);
    NOMME(QLineEdit, Noms_Sig, sp.reglages().Noms_Sig_Adif(), Frame_Options);
    Noms_Sig->setToolTip(QStringLiteral("Séparées par des virgules ; les majuscules et minuscules ne comptent pas."));
    Etiqueter(Label_Noms_Sig, Noms_Sig);
    grille->addWidget(Label_Noms_Sig, 4, 0);
    grille->addWidget(Noms_Sig, 4, 1);
    grille->setColumnStretch(2, 1);

    // Modal for the whole program while a file is read: nothing else can change what is read,
    // and its Annuler leaves the import window as it was.
    NOMME(QProgressDialog, Dialogue_Lecture, this);
    Dialogue_Lecture->setWindowTitle(QStringLiteral("Importer un fichier ADIF"));
    Dialogue_Lecture->setWindowModality(Qt::ApplicationModal);
    Dialogue_Lecture->setAutoClose(false);
    Dialogue_Lecture->setAutoReset(false);
    Dialogue_Lecture->setCancelButtonText(QStringLiteral("Annuler"));
    NOMME(QProgressBar, Progression, Dialogue_Lecture);
    Dialogue_Lecture->setBar(Progression);
    Progression->setRange(0, 1000);
    Progression->setFormat(QStringLiteral("Lecture du fichier : %p %"));
    // Escape or the frame's close button stop the reading as Annuler does.
    connect(Dialogue_Lecture, &QDialog::rejected, Dialogue_Lecture, &QProgressDialog::cancel);
    // Shown when a read asks for it, never by the dialog's own timer.
    Dialogue_Lecture->reset();
    Dialogue_Lecture->hide();

    NOMME(QTableView, Apercu, this);
    m_modele = new Modele_Apercu(this);
    Apercu->setModel(m_modele);
    Apercu->setAccessibleName(QStringLiteral("QSO du fichier et leur verdict"));
    Apercu->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Apercu->setSelectionBehavior(QAbstractItemView::SelectRows);
    Apercu->verticalHeader()->setVisible(false);
    Apercu->verticalHeader()->setDefaultSectionSize(Apercu->fontMetrics().height() + 4);
    Apercu->horizontalHeader()->setStretchLastSection(true);
    // By pixels: a verdict wider than the screen is scrolled to its end, not to its start.
    Apercu->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    const QFontMetrics mesure(Apercu->font());
    const int largeurs[] = {5, 9, 13, 7, 22};
    for (int i = 0; i < 5; ++i)
        Apercu->setColumnWidth(i, mesure.horizontalAdvance(QString(largeurs[i], u'0')));
    m_largeurApercu = mesure.horizontalAdvance(QString(90, u'0'));
    Apercu->setMinimumSize(m_largeurApercu, 240);

    NOMME(QLabel, Resume, this);
    Resume->setWordWrap(true);

    NOMME(QPushButton, Importer, QStringLiteral("&Importer"), this);
    Importer->setEnabled(false);
    NOMME(QPushButton, Annuler, QStringLiteral("&Annuler"), this);

    auto* haut = new QHBoxLayout;
    haut->addWidget(Label_Fichier, 1);
    haut->addWidget(Choisir);
    auto* bas = new QHBoxLayout;
    bas->addWidget(Resume, 1);
    bas->addWidget(Importer);
    bas->addWidget(Annuler);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(haut);
    principal->addWidget(Frame_Options);
    principal->addWidget(Apercu, 1);
    principal->addLayout(bas);

    connect(Choisir, &QPushButton::clicked, this, &Import_Adif::Import_Adif_Choisir_Click);
    connect(Importer, &QPushButton::clicked, this, &Import_Adif::Import_Adif_Importer_Click);
    connect(Annuler, &QPushButton::clicked, this, &Import_Adif::Import_Adif_Annuler_Click);
    connect(Type_Contacte, &QComboBox::currentIndexChanged, this, &Import_Adif::Recalculer);
    connect(Type_Active, &QComboBox::currentIndexChanged, this, &Import_Adif::Recalculer);
    connect(Attente_Validation, &QCheckBox::toggled, this, &Import_Adif::Recalculer);
    connect(Chercher_Texte, &QCheckBox::toggled, this, &Import_Adif::Recalculer);
    connect(Noms_Sig, &QLineEdit::editingFinished, this, [this] {
        sp.reglages().Definir_Noms_Sig_Adif(Noms_Sig->text().trimmed());
        Recalculer();
    });
}

Import_Adif::~Import_Adif() = default;

void Import_Adif::Import_Adif_Form_Load()
{
    Recalculer();
    adjustSize();
    Centrer(this);
    show();
    Choisir->setFocus();
}

void Import_Adif::Import_Adif_Choisir_Click()
{
    const QString depart = m_chemin.isEmpty() ? QDir::homePath() : QFileInfo(m_chemin).absolutePath();
    const QString chemin = sp.plateforme().Fichier_A_Ouvrir(QStringLiteral("Importer un fichier ADIF"), depart,
                                                            QStringLiteral("Fichiers ADIF (*.adi *.adif *.adx *.ADI *.ADIF *.ADX);;Tous les fichiers (*)"),
                                                            this);
    // The dialog gone, the keys come back here, where the preview is.
    activateWindow();
    if (!chemin.isEmpty())
        Ouvrir_Fichier(chemin);
}

bool Import_Adif::Ouvrir_Fichier(const QString& chemin)
{
    QList<Adif::Enregistrement_Adif> enregistrements;
    QString erreur;
    const Issue_Lecture issue = Lire_Fichier(chemin, enregistrements, erreur);
    // Cancelled: the file shown before, if any, is still the one to import.
    if (issue == Issue_Lecture::Abandonne)
        return false;
    Label_Fichier->setText(QStringLiteral("Fichier : ") + QDir::toNativeSeparators(chemin));
    // Whatever was shown belongs to the file before: nothing of it may be imported now.
    m_chemin = issue == Issue_Lecture::Lu ? chemin : QString();
    m_enregistrements = std::move(enregistrements);
    Recalculer();
    if (issue == Issue_Lecture::Refuse) {
        sp.plateforme().Message(erreur, this);
        return false;
    }
    return true;
}

Import_Adif::Issue_Lecture Import_Adif::Lire_Fichier(const QString& chemin, QList<Adif::Enregistrement_Adif>& enregistrements,
                                                     QString& erreur)
{
    // Reading and cutting a large file take a moment: the progress window shows how far it
    // is and takes the clicks on its Annuler, the program's other windows take none. It comes
    // at once for a large file, and for any other whose reading lasts (a slow disk); until
    // then the windows are redrawn without taking clicks.
    bool montree = false;
    qint64 debut = 0;
    auto montrer = [&] {
        montree = true;
        Dialogue_Lecture->setLabelText(QStringLiteral("Lecture de ") + QDir::toNativeSeparators(chemin));
        Dialogue_Lecture->show();
    };
    Fichier_Import::Suivi suivi;
    suivi.horloge = [this] { return sp.plateforme().Millisecondes(); };
    suivi.commencer = [&](qint64 taille) {
        Dialogue_Lecture->reset();
        montree = false;
        debut = sp.plateforme().Millisecondes();
        if (taille > Fichier_Import::Taille_Progression)
            montrer();
        Progression->setValue(0);
    };
    suivi.avancer = [&](int valeur) {
        if (!montree && sp.plateforme().Millisecondes() - debut >= Fichier_Import::Delai_Progression_Ms)
            montrer();
        Progression->setValue(valeur);
        QCoreApplication::processEvents(montree ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        return !Dialogue_Lecture->wasCanceled();
    };
    suivi.finir = [&] {
        Dialogue_Lecture->hide();
        Dialogue_Lecture->reset();
    };
    Adif::Lecture lecture;
    const Fichier_Import::Issue issue = Fichier_Import::Lire(chemin, lecture, erreur, suivi);
    if (issue != Fichier_Import::Issue::Lu)
        return issue == Fichier_Import::Issue::Refuse ? Issue_Lecture::Refuse : Issue_Lecture::Abandonne;
    enregistrements = std::move(lecture.enregistrements);
    m_champsIgnores = lecture.champsIgnores;
    m_enregistrementCoupe = lecture.enregistrementCoupe;
    return Issue_Lecture::Lu;
}

Echange_Adif::Options Import_Adif::Options_Choisies() const
{
    Echange_Adif::Options o;
    o.typeContacte = Type_Contacte->currentIndex();
    o.typeActive = Type_Active->currentIndex();
    o.attente = Attente_Validation->isChecked();
    o.chercherDansTexte = Chercher_Texte->isChecked();
    o.annee = sp.Annee_Challenge();
    o.nomsSig = Echange_Adif::Noms_Sig(Noms_Sig->text());
    return o;
}

bool Import_Adif::Lire_Log(QByteArray& log)
{
    const ErreurFichier e = FichierLog::Lire_Tout(sp.Nom_Log(), log);
    if (!e.ok())
        sp.plateforme().Message(e.message + QStringLiteral("\r\nRien n'a été importé."), this);
    return e.ok();
}

void Import_Adif::Recalculer()
{
    m_modele->Remplir(nullptr);
    m_qsos.clear();
    m_logApercu.clear();
    if (m_chemin.isEmpty()) {
        Resume->setText(QStringLiteral("Choisissez le fichier ADIF écrit par votre logiciel de trafic."));
        Importer->setEnabled(false);
        return;
    }
    QByteArray log;
    if (!Lire_Log(log)) {
        Resume->setText(QStringLiteral("Le log ne peut pas être lu."));
        Importer->setEnabled(false);
        return;
    }
    m_optionsApercu = Options_Choisies();
    m_qsos = Echange_Adif::Examiner(m_enregistrements, m_optionsApercu, log);
    m_logApercu = log;
    m_modele->Remplir(&m_qsos);

    int compte[7] = {};
    int chateauAChateau = 0;
    int activationsDejaVues = 0;
    for (const Qso_Import& q : std::as_const(m_qsos)) {
        ++compte[int(q.verdict)];
        chateauAChateau += q.Ajoute() && !q.chateauContacte.isEmpty();
        activationsDejaVues += q.verdict == Verdict::Ajoute_Deja_Vu && q.activation;
    }
    Ajuster_Colonne_Verdict();
    const int ajoutes = compte[int(Verdict::Ajoute)] + compte[int(Verdict::Ajoute_Deja_Vu)];
    // What the reading left out of the file, said after the counts.
    QString notes;
    if (m_champsIgnores == 1)
        notes += QStringLiteral(" 1 champ au nom hors des règles ADIF a été ignoré.");
    else if (m_champsIgnores > 1)
        notes += QStringLiteral(" %1 champs aux noms hors des règles ADIF ont été ignorés.").arg(m_champsIgnores);
    if (m_enregistrementCoupe > 0)
        notes += QStringLiteral(" Le dernier enregistrement (N° %1) est incomplet, le fichier est tronqué : il n'a pas été repris.")
                     .arg(m_enregistrementCoupe);
    if (m_qsos.isEmpty()) {
        Resume->setText(QStringLiteral("Aucun QSO dans ce fichier.") + notes);
        Importer->setEnabled(false);
        return;
    }
    QStringList parties;
    parties.append(QStringLiteral("%1 QSO dans le fichier").arg(m_qsos.size()));
    parties.append(QStringLiteral("%1 à ajouter").arg(ajoutes));
    auto partie = [&](Verdict v, const QString& texte, const QString& pluriel = QString()) {
        const int n = compte[int(v)];
        if (n > 0)
            parties.append((n > 1 && !pluriel.isEmpty() ? pluriel : texte).arg(n));
    };
    // A castle activated again is no castle contacted again: each is counted in its own words.
    compte[int(Verdict::Ajoute_Deja_Vu)] -= activationsDejaVues;
    partie(Verdict::Ajoute_Deja_Vu, QStringLiteral("dont %1 d'un Chateau déjà contacté"), QStringLiteral("dont %1 de Chateaux déjà contactés"));
    if (activationsDejaVues > 0)
        parties.append((activationsDejaVues == 1 ? QStringLiteral("dont %1 activation d'un Chateau déjà dans le log")
                                                 : QStringLiteral("dont %1 activations de Chateaux déjà dans le log"))
                           .arg(activationsDejaVues));
    if (chateauAChateau > 0)
        parties.append((chateauAChateau == 1 ? QStringLiteral("dont %1 de Chateau à Chateau, compté comme activation")
                                             : QStringLiteral("dont %1 de Chateau à Chateau, comptés comme activations"))
                           .arg(chateauAChateau));
    partie(Verdict::Deja_Dans_Log, QStringLiteral("%1 déjà dans le log"));
    partie(Verdict::Double_Fichier, QStringLiteral("%1 en double dans le fichier"));
    partie(Verdict::Autre_Annee, QStringLiteral("%1 d'une autre année"));
    partie(Verdict::Sans_Reference, QStringLiteral("%1 sans référence KVRT"));
    partie(Verdict::Refuse, QStringLiteral("%1 refusé"), QStringLiteral("%1 refusés"));
    Resume->setText(parties.join(QStringLiteral(", ")) + QLatin1Char('.') + notes);
    Importer->setEnabled(ajoutes > 0);
}

void Import_Adif::Ajuster_Colonne_Verdict()
{
    // The widest sentence of the preview, each different text measured once: a file of tens of
    // thousands of QSOs has a few hundred different verdicts at most.
    const QFontMetrics mesure(Apercu->font());
    QSet<QString> vus;
    int plusLarge = -1;
    int largeurTexte = 0;
    for (int i = 0; i < m_qsos.size(); ++i) {
        QString texte = Echange_Adif::Texte_Verdict(m_qsos.at(i));
        if (vus.contains(texte))
            continue;
        const int largeur = mesure.horizontalAdvance(texte);
        vus.insert(std::move(texte));
        if (largeur > largeurTexte) {
            largeurTexte = largeur;
            plusLarge = i;
        }
    }
    QHeaderView* entete = Apercu->horizontalHeader();
    int verdict = entete->sectionSizeHint(5);
    if (plusLarge >= 0)
        verdict = qMax(verdict, Apercu->sizeHintForIndex(m_modele->index(plusLarge, 5)).width());
    int voulue = verdict + 2 * Apercu->frameWidth() + Apercu->verticalScrollBar()->sizeHint().width();
    for (int i = 0; i < 5; ++i)
        voulue += Apercu->columnWidth(i);

    // The window grows until the whole sentence shows, as far as the screen allows; past it the
    // column keeps its width and the preview scrolls sideways rather than cut a sentence.
    int possible = voulue;
    if (QScreen* ecran = screen()) {
        const int cadre = frameGeometry().width() - width();
        const int autour = width() - Apercu->width();
        possible = ecran->availableGeometry().width() - cadre - autour;
    }
    const bool tient = voulue <= possible;
    entete->setStretchLastSection(tient);
    if (!tient)
        Apercu->setColumnWidth(5, verdict);
    Apercu->setMinimumWidth(qMax(m_largeurApercu, qMin(voulue, possible)));
    if (layout())
        layout()->activate();
    // Grown to the right, the window is brought back onto its screen.
    if (QScreen* ecran = screen()) {
        const QRect zone = ecran->availableGeometry();
        const QRect cadre = frameGeometry();
        if (cadre.right() > zone.right())
            move(qMax(zone.left(), x() - (cadre.right() - zone.right())), y());
    }
}

void Import_Adif::Import_Adif_Importer_Click()
{
    if (m_chemin.isEmpty())
        return;
    // The log may have changed since the preview (a QSO typed meanwhile): the verdicts are
    // given again against the log as it is now, and what is written is what they say.
    QByteArray log;
    if (!Lire_Log(log))
        return;
    const Echange_Adif::Options options = Options_Choisies();
    const QList<Qso_Import> qsos = log == m_logApercu && options == m_optionsApercu
                                       ? m_qsos
                                       : Echange_Adif::Examiner(m_enregistrements, options, log);
    const QList<QByteArray> nouvelles = Echange_Adif::Lignes_A_Ajouter(qsos);
    if (nouvelles.isEmpty()) {
        log = QByteArray();
        sp.plateforme().Message(QStringLiteral("Aucun QSO à ajouter : le log n'a pas été modifié."), this);
        Recalculer();
        return;
    }
    // The log just read is the one the lines go into: it is not read a third time.
    const bool importe = sp.plateforme().Dire(sp.Importe_Lignes(nouvelles, &log), this);
    log = QByteArray();
    if (!importe)
        return;
    sp.plateforme().Message(nouvelles.size() == 1 ? QStringLiteral("1 QSO a été ajouté au log.")
                                                : QStringLiteral("%1 QSO ont été ajoutés au log.").arg(nouvelles.size()),
                          this);
    close();
}

void Import_Adif::Import_Adif_Annuler_Click()
{
    close();
}
