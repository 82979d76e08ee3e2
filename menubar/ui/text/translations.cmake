# Translations of the client's texts. The English text is the source; each .ts file under
# resources/translations is compiled by lrelease and built into the core library as the
# resource :/i18n/vaultor_<language>.qm, which VTTranslationLoader installs.
file(GLOB VT_TRANSLATION_FILES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/resources/translations/vaultor_*.ts)
qt_add_translations(vt_menubar_core
  TS_FILES ${VT_TRANSLATION_FILES}
  RESOURCE_PREFIX "/i18n"
  LUPDATE_OPTIONS -no-obsolete -locations none)
