# Parsing Qt's headers is most of each file's compile time (about two thirds,
# measured on the browser and editor files). The headers most files include are
# parsed once into a precompiled header that every program, library and test in
# src/ and tests/ reuses; tests get a second one with Qt Test in it.
# TW_PRECOMPILED_HEADERS=OFF builds without them, to find a missing #include.
option(TW_PRECOMPILED_HEADERS "Reuse one precompiled header of Qt's common headers" ON)
if(NOT TW_PRECOMPILED_HEADERS)
  return()
endif()

set(_tw_common_headers
  <QAction> <QApplication> <QByteArray> <QComboBox> <QCoreApplication> <QDialog>
  <QDir> <QFile> <QFileInfo> <QHash> <QLabel> <QLineEdit> <QList> <QMenu>
  <QObject> <QPointer> <QPushButton> <QSettings> <QString> <QStringList>
  <QTimer> <QUrl> <QVariant> <QWidget>)

# Both carriers link what every user links (Qt Widgets), so their macros are a
# subset of each user's; a user may define more (QScintilla's, Qt Test's), which
# neither compiler minds while the headers above do not look at them.
if(NOT EXISTS "${CMAKE_BINARY_DIR}/common-headers.cpp")
  file(WRITE "${CMAKE_BINARY_DIR}/common-headers.cpp" "")
endif()
add_library(tw_common_headers OBJECT "${CMAKE_BINARY_DIR}/common-headers.cpp")
target_link_libraries(tw_common_headers PRIVATE Qt6::Widgets)
target_precompile_headers(tw_common_headers PRIVATE ${_tw_common_headers})

add_library(tw_test_headers OBJECT "${CMAKE_BINARY_DIR}/common-headers.cpp")
target_link_libraries(tw_test_headers PRIVATE Qt6::Widgets Qt6::Test)
# Qt Test names each test's own build and source folders in two macros, for
# QFINDTESTDATA, which no test here uses; they would make every test's macros
# differ from the shared header's.
set_property(TARGET Qt6::Test PROPERTY INTERFACE_COMPILE_DEFINITIONS QT_TESTLIB_LIB)
target_precompile_headers(tw_test_headers PRIVATE ${_tw_common_headers} <QtTest>)
set_target_properties(tw_common_headers tw_test_headers PROPERTIES AUTOMOC OFF)

# Every target built against Qt in these folders reuses one of them. The
# browser module is left out: it is built with hidden symbols, a different
# setting that a precompiled header must match.
function(_tw_reuse_common_headers dir carrier)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t IN LISTS targets)
    get_target_property(type ${t} TYPE)
    get_target_property(visibility ${t} CXX_VISIBILITY_PRESET)
    # Only what is built against Qt (a small X11 helper is not).
    get_target_property(links ${t} LINK_LIBRARIES)
    # Nor what links Qt Network, directly or through the web engine: Qt Test
    # looks at its macro, so the header would not fit.
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|OBJECT_LIBRARY)$" AND NOT visibility AND links MATCHES "Qt6::|tw_"
       AND NOT links MATCHES "Qt6::Network|Qt6::WebEngine"
       AND NOT t STREQUAL tw_common_headers AND NOT t STREQUAL tw_test_headers)
      # A program in tests/ that is no test (a probe of the install) has no
      # Qt Test to include.
      if(carrier STREQUAL tw_test_headers AND NOT links MATCHES "Qt6::Test|tw_testsupport")
        target_precompile_headers(${t} REUSE_FROM tw_common_headers)
      else()
        target_precompile_headers(${t} REUSE_FROM ${carrier})
      endif()
      # A test includes its own moc output, which leaves the file that
      # gathers the target's moc output empty; loading the header for it
      # alone cost seconds a test.
      if(carrier STREQUAL tw_test_headers)
        get_target_property(bin ${t} BINARY_DIR)
        set_source_files_properties("${bin}/${t}_autogen/mocs_compilation.cpp" TARGET_DIRECTORY ${t}
          PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      endif()
    endif()
  endforeach()
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(d IN LISTS subdirs)
    _tw_reuse_common_headers("${d}" ${carrier})
  endforeach()
endfunction()

_tw_reuse_common_headers("${CMAKE_SOURCE_DIR}/src" tw_common_headers)
if(BUILD_TESTING)
  _tw_reuse_common_headers("${CMAKE_SOURCE_DIR}/tests" tw_test_headers)
endif()
