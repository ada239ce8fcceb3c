# Targets that load documents and render them.
ofd_add_fuzzer(fuzz_document SOURCES fuzz_document.cpp LIBS ofd_render)
ofd_add_fuzzer(fuzz_pagecontent SOURCES fuzz_pagecontent.cpp ${PROJECT_SOURCE_DIR}/tests/support/packagebuilder.cpp
  LIBS ofd_render QuaZip::QuaZip)
target_include_directories(fuzz_pagecontent PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
ofd_add_fuzzer(fuzz_resources SOURCES fuzz_resources.cpp LIBS ofd_document)
ofd_add_fuzzer(fuzz_seal SOURCES fuzz_seal.cpp LIBS ofd_sign)
ofd_add_fuzzer(fuzz_annotations SOURCES fuzz_annotations.cpp ${PROJECT_SOURCE_DIR}/tests/support/packagebuilder.cpp
  LIBS ofd_annot QuaZip::QuaZip)
target_include_directories(fuzz_annotations PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
