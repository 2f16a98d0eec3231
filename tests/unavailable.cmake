# Run by a test whose tool was not found when the build was configured:
# fails with the reason. cmake -DREASON=... -P unavailable.cmake
message(FATAL_ERROR "${REASON}")
