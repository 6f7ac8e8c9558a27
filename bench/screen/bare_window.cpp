// The limit for the shell's whole start-up: a bare Qt program that shows one
// window with as many plain widgets as the screen has, waits as the shell's
// --screenshot does, writes a PNG and exits.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const int at = int(args.indexOf(QStringLiteral("--screenshot")));
    const QString file = at >= 0 ? args.value(at + 1) : QString();
    QWidget window;
    window.resize(1024, 720);
    for (int i = 0; i < 82; ++i) {
        QWidget *child = (i % 2) ? static_cast<QWidget *>(new QLineEdit(&window)) : new QLabel(QStringLiteral("Rótulo"), &window);
        child->setGeometry((i * 37) % 480, (i * 13) % 340, 60, 21);
    }
    window.show();
    QTimer::singleShot(300, &window, [&] {
        if (!file.isEmpty())
            window.grab().save(file);
        QApplication::quit();
    });
    return QApplication::exec();
}
