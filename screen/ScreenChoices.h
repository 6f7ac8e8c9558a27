// What the user chose on the screen, as plain values: what a report last
// received and "Repetir últimos parâmetros" puts back (TfrmRealGlobal's
// choices() and apply(); RecalledParameters keeps them between sessions).
#pragma once

#include "CodeList.h"

#include <QDate>
#include <QString>

struct ScreenChoices {
    QString branch;            // the aggregated branch's code, as typed
    QString costType;          // the cost type's name, as listed
    QDate dateInitial;         // the period; an invalid date is left alone
    QDate dateFinal;
    bool groupsListed = false; // "Lista" of service groups, with its codes
    CodeList groups;
    bool servicesListed = false; // "Lista" of services, with its codes
    CodeList services;
    QString productInitial;    // the product codes, as typed
    QString productFinal;
    int level = 0;             // the grouping level
    int ordering = 0;          // 0: by code; 1: alphabetical
    bool stockable = true;     // product kinds
    bool nonStockable = true;
};
