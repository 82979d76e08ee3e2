# What every install rule of the tree shares: the package's version, the standard folders
# (GNUInstallDirs) and the product's own folder.
include(GNUInstallDirs)

# The package's version and release date come from the first entry of its changelog.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog vt_changelog_head LIMIT_COUNT 1)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog vt_changelog_signature REGEX "^ -- "
     LIMIT_COUNT 1)
if(NOT vt_changelog_head MATCHES "^vaultor-desktop \\(([^)]+)\\)")
  message(FATAL_ERROR "packaging/changelog: no version in its first line")
endif()
set(VT_PACKAGE_VERSION ${CMAKE_MATCH_1})
if(NOT vt_changelog_signature MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog: no date in the first entry's signature")
endif()
set(vt_months Jan 01 Feb 02 Mar 03 Apr 04 May 05 Jun 06 Jul 07 Aug 08 Sep 09 Oct 10 Nov 11 Dec 12)
list(FIND vt_months ${CMAKE_MATCH_2} vt_month)
math(EXPR vt_month "${vt_month} + 1")
list(GET vt_months ${vt_month} vt_month)
set(VT_PACKAGE_DATE ${CMAKE_MATCH_3}-${vt_month}-${CMAKE_MATCH_1})

# Programs, the jar, the desktop entry, the icons and the man pages follow the prefix. What
# the Java service loads, and the link to the Java runtime it runs on, go to the product's own
# folder, the one VaultorService looks in: /opt/vaultor for a system install (prefix /usr, as
# the Debian package has it) and PREFIX/opt/vaultor for any other prefix, so that `--prefix
# ~/.local` gives the per-user ~/.local/opt/vaultor. The prefix is known only when the install
# runs (`cmake --install --prefix`, CPack), so the folder is settled then.
set(VT_APP_DIR_CODE [[
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(vt_app_dir "/opt/vaultor")
else()
  set(vt_app_dir "${CMAKE_INSTALL_PREFIX}/opt/vaultor")
endif()
]])

# Installs the shared library of TARGET into the product's lib folder, not executable (it is
# only ever loaded) and stripped when the install strips (CPack, `cmake --install --strip`).
function(vt_install_app_library target)
  install(CODE "${VT_APP_DIR_CODE}
file(INSTALL DESTINATION \"\${vt_app_dir}/lib\" TYPE SHARED_LIBRARY
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     FILES \"$<TARGET_FILE:${target}>\")
if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\"
                  \"\$ENV{DESTDIR}\${vt_app_dir}/lib/$<TARGET_FILE_NAME:${target}>\")
endif()")
endfunction()

# Installs the jar of TARGET as Debian's Java policy has public jars: NAME-VERSION.jar in
# share/java, with the link NAME.jar that class paths name.
function(vt_install_java_library target name)
  get_target_property(jar ${target} JAR_FILE)
  install(FILES ${jar} DESTINATION ${CMAKE_INSTALL_DATADIR}/java
          RENAME ${name}-${VT_PACKAGE_VERSION}.jar)
  file(CREATE_LINK ${name}-${VT_PACKAGE_VERSION}.jar ${CMAKE_CURRENT_BINARY_DIR}/${name}.jar
       SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.jar DESTINATION ${CMAKE_INSTALL_DATADIR}/java)
endfunction()
