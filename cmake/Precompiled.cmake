# Precompiled Qt headers, one set per level of Qt a target sees.
#
# precompile_qt(<target> <level>) makes the target reuse (REUSE_FROM) the
# precompiled headers of its level, built once by an owner target of their
# own:
#
#   core    QtCore                          host/core
#   data    QtCore, QtSql                   host/data, session, remote, appdata,
#                                           the costs server, shell_parts
#   widgets data with QtGui and QtWidgets   host/widgets, lookup, report/model,
#                                           report/query
#   print   widgets with QtPrintSupport     host/report/layout and above, screen,
#                                           module, shell
#   tests   print with the whole of QtCore  test programs and their fixtures
#           (QtTest includes it all) and
#           the QtNetwork headers QtTest
#           includes
#
# GCC takes a precompiled header only where every macro defined when it was
# made is defined alike, so each owner defines nothing but its Qt modules'
# QT_*_LIB macros: a target may define more (its own, QtTest's
# QT_TESTCASE_BUILDDIR), never fewer. A target given a level above its Qt
# modules would have its header refused and parsed again in full; CMake's
# -Winvalid-pch then says so in the build log. Sets are short on purpose: a
# bigger header costs every small file more to load than it saves.

set(PCH_HEADERS_core <QString> <QStringList> <QList> <QHash> <QMap> <QVariant> <QObject> <QByteArray> <QFile>
    <QDir> <QFileInfo> <QDateTime> <QLocale> <QRegularExpression> <QPointer> <QTimer> <QDebug>
    <QCoreApplication> <QElapsedTimer> <memory> <functional> <optional> <algorithm>)
set(PCH_HEADERS_data ${PCH_HEADERS_core} <QSqlDatabase> <QSqlQuery> <QSqlError> <QSqlDriver> <QSqlRecord>)
set(PCH_HEADERS_widgets ${PCH_HEADERS_data} <QWidget> <QApplication> <QKeyEvent> <QFocusEvent> <QLineEdit>
    <QPainter> <QMenu> <QAction> <QToolButton> <QComboBox> <QLabel> <QVBoxLayout> <QHBoxLayout>
    <QRadioButton> <QCheckBox> <QSpinBox> <QDialog> <QMessageBox> <QFontMetrics> <QPushButton>)
set(PCH_HEADERS_print ${PCH_HEADERS_widgets} <QPrinter> <QPageLayout> <QPdfWriter>)
set(PCH_HEADERS_tests <QtCore/QtCore> ${PCH_HEADERS_print} <QNetworkAccessManager> <QNetworkReply>
    <QNetworkRequest> <QNetworkCookie> <QSslConfiguration> <QSslPreSharedKeyAuthenticator> <QHostAddress>
    <QTcpServer> <QTcpSocket> <QProcess> <QTemporaryDir> <QMainWindow> <QMdiSubWindow>
    <QTableView> <QImage> <QPixmap> <QIcon>)

set(PCH_QT_core Qt6::Core)
set(PCH_QT_data Qt6::Core Qt6::Sql)
set(PCH_QT_widgets ${PCH_QT_data} Qt6::Gui Qt6::Widgets)
set(PCH_QT_print ${PCH_QT_widgets} Qt6::PrintSupport)
set(PCH_QT_tests ${PCH_QT_print} Qt6::Network)

file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/precompiled/owner.cpp
     CONTENT "// Compiles nothing: its target only makes the level's precompiled headers.\n")

foreach(level core data widgets print tests)
  add_library(precompiled_${level} OBJECT ${CMAKE_BINARY_DIR}/precompiled/owner.cpp)
  # Not Qt6::Test, whose interface defines the test's own folders.
  target_link_libraries(precompiled_${level} PRIVATE ${PCH_QT_${level}})
  set_target_properties(precompiled_${level} PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)
  target_precompile_headers(precompiled_${level} PRIVATE ${PCH_HEADERS_${level}})
endforeach()

function(precompile_qt target level)
  if(NOT TARGET precompiled_${level})
    message(FATAL_ERROR "precompile_qt(${target}): no level '${level}'")
  endif()
  target_precompile_headers(${target} REUSE_FROM precompiled_${level})
endfunction()

# ccache caches a file compiled with a precompiled header only when told to
# trust the header's macros and times (its manual, "Precompiled headers").
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$")
  set(CMAKE_CXX_COMPILER_LAUNCHER
      env CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
