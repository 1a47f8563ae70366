# The program's version table: the values its version block carries. The
# build writes them into VersionInfo.json, which the program embeds and reads
# at start-up for its name, version, copyright line and the maker's addresses.
set(VELMORA_FIXED_VERSION "1.7.0.8")
set(VELMORA_PRODUCT_NAME "Velmora")
set(VELMORA_INTERNAL_NAME "Configurator")
set(VELMORA_FILE_VERSION "1.7.0.8")
set(VELMORA_LEGAL_COPYRIGHT "Copyright (C) 2026 Korvane")
set(VELMORA_COMPANY_NAME "Korvane")
set(VELMORA_COMMENTS "https://www.korvane.example/")
set(VELMORA_SUPPORT "order@korvane.example")
set(VELMORA_FILE_DESCRIPTION "Velmora Configurator")
set(VELMORA_LEGAL_TRADEMARKS "Velmora")
set(VELMORA_ORIGINAL_FILENAME "velmora-configurator")
set(VELMORA_PRODUCT_VERSION "1.7.0.0")
