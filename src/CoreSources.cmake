# SPDX-License-Identifier: MIT
# The core's sources, named once: the core library and the fuzz build's sanitized copy of
# it both take their lists from here, so a new core file reaches both.
#   MORVAT_CORE_SOURCES          always built
#   MORVAT_CORE_ARCHIVE_SOURCES  with MORVAT_WITH_ARCHIVES: libarchive and pugixml readers
#   MORVAT_CORE_NO_ARCHIVE_SOURCES  without it: the stand-in that reads no archive
set(_morvat_src ${CMAKE_CURRENT_LIST_DIR})
set(MORVAT_CORE_SOURCES
  ${_morvat_src}/model/EditorState.cpp
  ${_morvat_src}/model/EffectCatalogue.cpp
  ${_morvat_src}/model/EffectEntry.cpp
  ${_morvat_src}/model/SkillRecord.cpp
  ${_morvat_src}/calc/Comparison.cpp
  ${_morvat_src}/calc/OffensiveRules.cpp
  ${_morvat_src}/calc/Rating.cpp
  ${_morvat_src}/calc/SupportiveRules.cpp
  ${_morvat_src}/files/CardList.cpp
  ${_morvat_src}/files/Cp932Table.cpp
  ${_morvat_src}/files/CwsLineReader.cpp
  ${_morvat_src}/files/CwsReader.cpp
  ${_morvat_src}/files/CwsWriter.cpp
  ${_morvat_src}/files/Escape.cpp
  ${_morvat_src}/files/FileOpen.cpp
  ${_morvat_src}/files/FolderSettings.cpp
  ${_morvat_src}/files/IniFile.cpp
  ${_morvat_src}/files/LoadFlows.cpp
  ${_morvat_src}/files/RegularFile.cpp
  ${_morvat_src}/files/SaveFile.cpp
  ${_morvat_src}/files/ShiftJis.cpp
  ${_morvat_src}/files/Utf8.cpp
  ${_morvat_src}/files/WidEvents.cpp
  ${_morvat_src}/files/WidMotions.cpp
  ${_morvat_src}/files/WidReader.cpp
  ${_morvat_src}/files/WidStream.cpp
  ${_morvat_src}/files/WorkerPool.cpp
  ${_morvat_src}/files/archive/ArchiveCards.cpp
  ${_morvat_src}/files/archive/ArchiveNames.cpp)
set(MORVAT_CORE_ARCHIVE_SOURCES
  ${_morvat_src}/files/XmlCardReader.cpp
  ${_morvat_src}/files/XmlScenario.cpp
  ${_morvat_src}/files/archive/ArchiveReader.cpp)
set(MORVAT_CORE_NO_ARCHIVE_SOURCES
  ${_morvat_src}/files/archive/NoArchives.cpp)
unset(_morvat_src)
