# The evidence package: verified copies, checksums and telemetry files (core,
# no Qt) and its PDF report (Qt Gui).
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/recording_telemetry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sha256.cpp
  ${CMAKE_CURRENT_LIST_DIR}/telemetry_csv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/verified_copy.cpp
)
list(APPEND ORVO_CORE_LIBS OpenSSL::Crypto)
list(APPEND ORVO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/evidence_package.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sha256_sums.cpp
)
# The report draws with Qt Gui; the viewer and orvo-info both link it.
list(APPEND ORVO_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/evidence_report.cpp
)
