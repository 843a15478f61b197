#pragma once

#include "Apparence.h"
#include "Main_Test.h"
#include "Outils_Test.h"
#include "Types_Activite.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTest>

// The main window's total, date of the next QSO and type carried over, read-only or greyed,
// each drawn by the platform in a text that stands out from its pale background: pixels 96
// grey levels of 255 away from it at least, which neither an empty box nor the pale grey of a
// desktop's disabled text has.
inline void Verifier_Boites_Lisibles()
{
    Chien_De_Garde garde;
    Programme_Test p;
    Main_Test* m = Demarrer_Sur(p, {Q("01/03/09", "29001", Ca), Q("02/03/09", "2A001", Ca)});
    QCOMPARE(m->Total_Points->text() + m->Date_A->text() + m->Type_A->currentText(), QStringLiteral("1228/03/09") + Ca);
    for (QWidget* boite : {static_cast<QWidget*>(m->Total_Points), static_cast<QWidget*>(m->Date_A),
                           static_cast<QWidget*>(m->Type_A)}) {
        // A combo box's text is its line edit's, beside the arrow.
        const QImage image = (boite == m->Type_A ? m->Type_A->lineEdit() : boite)->grab().toImage();
        const int fond = qGray(Apparence::Couleur(boite).rgb());
        int pixels = 0;
        for (int y = 3; y < image.height() - 3; ++y) // inside the frame
            for (int x = 3; x < image.width() - 3; ++x)
                pixels += qAbs(qGray(image.pixel(x, y)) - fond) >= 96;
        QVERIFY2(pixels >= m->fontMetrics().height(), qPrintable(boite->objectName()));
    }
}
