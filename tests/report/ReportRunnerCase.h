// The set-up the report-runner tests share: the tables the XEV017 reports
// read (ReportFixture), made in a temporary folder and open as Qt's default
// connection for the whole class; before each test, scripted dialogs and a
// runner of XEV017's reports whose parameters a ParamFiller answers with the
// standard values; after it, neither. A test class derives from it and
// calls these from its own slots, adding what it needs around them:
//
//   void initTestCase() { openDatabase(); }
//   void init() { startRunner(); }
//   void cleanup() { endRunner(); }
//   void cleanupTestCase() { closeDatabase(); }
#pragma once

#include "ParamFiller.h"
#include "ReportFixture.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "ui/ScriptedHostUi.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class ReportRunnerCase : public QObject {
protected:
    QTemporaryDir m_dir;
    ScriptedHostUi *m_ui = nullptr;
    TReportDesignerDialog *m_rpdd = nullptr;
    ParamFiller *m_filler = nullptr; // the runner's

    QString out(const QString &name) const { return m_dir.filePath(name); }

    void openDatabase()
    {
        QVERIFY(m_dir.isValid());
        ReportFixture::create(out(QStringLiteral("fixture.db")));
    }
    void closeDatabase() { ReportFixture::close(); }

    void startRunner()
    {
        m_ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        m_rpdd = standardRunner(this, QStringLiteral("XEV017"), &m_filler);
    }
    void endRunner()
    {
        delete m_rpdd;
        m_rpdd = nullptr;
        m_filler = nullptr;
        HostUi::uninstall();
    }
};
