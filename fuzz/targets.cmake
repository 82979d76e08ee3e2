# The fuzz targets: NAME.cpp each, with the libraries it needs. Included by fuzz/CMakeLists.txt
# (libFuzzer programs, clang) and fuzz/replay/CMakeLists.txt (the kept inputs, any compiler),
# each of which defines vt_fuzz_target(NAME LIBRARIES...). VT_FUZZ_SOURCE_DIR is this folder.

# The client's libraries, seen from here.
find_package(Qt6 REQUIRED COMPONENTS Core Network DBus)
find_package(simdjson REQUIRED)

# The helpers' include root is this folder: "support/FuzzCheck.h".
add_library(vt_fuzz_support INTERFACE)
target_include_directories(vt_fuzz_support INTERFACE ${VT_FUZZ_SOURCE_DIR})

# Helpers for the targets on the client's code: a Qt application, silent logging, temporary
# user folders, snapshots of a state.
add_library(vt_fuzz_client STATIC
  ${VT_FUZZ_SOURCE_DIR}/support/ClientDocuments.cpp
  ${VT_FUZZ_SOURCE_DIR}/support/QtFuzzEnvironment.cpp
  ${VT_FUZZ_SOURCE_DIR}/support/StateSnapshot.cpp)
target_link_libraries(vt_fuzz_client PUBLIC vt_fuzz_support vt_menubar_core)

# A private folder tree standing for the machine's root, for the readers of system files.
add_library(vt_fuzz_tree STATIC ${VT_FUZZ_SOURCE_DIR}/support/FuzzTree.cpp)
target_link_libraries(vt_fuzz_tree PUBLIC vt_fuzz_support)

# The client: frames, messages, endpoint, documents, texts.
vt_fuzz_target(frames vt_fuzz_client)
vt_fuzz_target(messages vt_fuzz_client)
vt_fuzz_target(endpoint vt_fuzz_client)
vt_fuzz_target(state_documents vt_fuzz_client)
vt_fuzz_target(legacy_summary vt_fuzz_client)
vt_fuzz_target(status_texts vt_fuzz_client)
# libvtnative: kernel records and the files of /proc, /sys, /etc.
vt_fuzz_target(fanotify_events vt_fuzz_support vtnative_objects)
vt_fuzz_target(mount_table vt_fuzz_support vtnative_objects)
vt_fuzz_target(system_files vt_fuzz_tree vtnative_objects)
vt_fuzz_target(known_networks vt_fuzz_tree vtnative_objects)
vt_fuzz_target(detector_lines vt_fuzz_support vtnative_objects)
# libnativio: argument blocks, structures and results, without calling anything.
vt_fuzz_target(argument_block vt_fuzz_support nativio_objects)
vt_fuzz_target(structure_layout vt_fuzz_support nativio_objects)
vt_fuzz_target(return_classification vt_fuzz_support nativio_objects)
vt_fuzz_target(callback_meta vt_fuzz_support nativio_objects)
# VaultorService: version texts.
vt_fuzz_target(version_compare vt_fuzz_support vt_launcher)
