// A form whose handlers record what ran, for driving the toolkit in tests.
#pragma once

#include "core/MensErro.h"
#include "widgets/FormReader.h"
#include "widgets/TForm.h"

#include <QStringList>
#include <functional>

class TestForm : public TForm {
    Q_OBJECT
public:
    QStringList log;
    std::function<void()> onCreate;
    std::function<void()> onExitAction;
    int closeAction = caFree;

    // Reads a definition given as text onto this form.
    void load(const QByteArray &dfm)
    {
        FormReader r(this);
        r.read(dfm, QStringLiteral("test.dfm"));
        r.finish();
    }

public slots:
    void FormCreate(QObject *) { log << "create"; if (onCreate) onCreate(); }
    void FormClose(QObject *, int *Action) { log << "close"; *Action = closeAction; }
    void FormActivate(QObject *) { log << "activate"; }
    void Changed(QObject *s) { log << "change:" + s->objectName(); }
    void Clicked(QObject *s) { log << "click:" + s->objectName(); }
    void Exited(QObject *s)
    {
        log << "exit:" + s->objectName();
        if (onExitAction)
            onExitAction();
    }
    void KeyDown(QObject *s, int *Key, int) { log << QStringLiteral("key:%1:%2").arg(s->objectName()).arg(*Key); }
    void Fails(QObject *) { log << "fails"; MensErro(QStringLiteral("Campo inválido."), true); }
    void Throws(QObject *) { log << "throws"; throw std::runtime_error("disk on fire"); }
};
