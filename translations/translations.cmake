# The English translation, compiled from its Linguist file at build time and
# embedded in the core library as a resource (":/translations/…qm"), so every
# program finds it without installed files. Chinese is the source language and
# needs no file.
# The chosen Qt's own lrelease and lupdate, not whichever comes first on the path.
if(QT_VERSION_MAJOR EQUAL 5)
  get_target_property(tessel_qmake Qt5::qmake IMPORTED_LOCATION)
  get_filename_component(tessel_qt_bin ${tessel_qmake} DIRECTORY)
else()
  set(tessel_qt_bin ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
endif()
set(TESSEL_QT_BIN ${tessel_qt_bin} CACHE INTERNAL "Qt's tools: lrelease, lupdate")
find_program(TESSEL_LRELEASE NAMES lrelease lrelease-qt${QT_VERSION_MAJOR} HINTS ${tessel_qt_bin} REQUIRED)

set(tessel_ts ${PROJECT_SOURCE_DIR}/translations/tessel-control_en.ts)
set(tessel_qm_dir ${CMAKE_CURRENT_BINARY_DIR}/translations)
set(tessel_qm ${tessel_qm_dir}/tessel-control_en.qm)
set(tessel_translations_qrc ${tessel_qm_dir}/translations.qrc)
set(TESSEL_TRANSLATIONS_SOURCE ${tessel_qm_dir}/qrc_translations.cpp)

file(MAKE_DIRECTORY ${tessel_qm_dir})
file(WRITE ${tessel_translations_qrc}
     "<RCC><qresource prefix=\"/translations\"><file>tessel-control_en.qm</file></qresource></RCC>\n")
add_custom_command(OUTPUT ${tessel_qm}
  COMMAND ${TESSEL_LRELEASE} -silent ${tessel_ts} -qm ${tessel_qm}
  DEPENDS ${tessel_ts}
  COMMENT "Compiling the English translation")
add_custom_command(OUTPUT ${TESSEL_TRANSLATIONS_SOURCE}
  COMMAND ${TESSEL_QT_PREFIX}::rcc -name tessel_translations ${tessel_translations_qrc} -o ${TESSEL_TRANSLATIONS_SOURCE}
  DEPENDS ${tessel_translations_qrc} ${tessel_qm}
  COMMENT "Embedding the translations")
set_source_files_properties(${TESSEL_TRANSLATIONS_SOURCE} PROPERTIES GENERATED TRUE SKIP_AUTOGEN TRUE)
