# The EMF reader lives outside the engine: build its Qt-free library here and
# give fuzz_emf (found by the glob above) its sources, plus a starting corpus
# of well-formed pages written by our own writer.
add_library(pitemf_fuzz STATIC
  ${CMAKE_SOURCE_DIR}/src/render/emf/emf_reader.cpp
  ${CMAKE_SOURCE_DIR}/src/render/emf/emf_writer.cpp)
target_include_directories(pitemf_fuzz PUBLIC ${CMAKE_SOURCE_DIR}/src/render)
if(TARGET fuzz_emf)
  target_link_libraries(fuzz_emf PRIVATE pitemf_fuzz)
  add_executable(emf_seed ${CMAKE_SOURCE_DIR}/tests/render/emf_seed.cpp)
  target_link_libraries(emf_seed PRIVATE pitemf_fuzz)
  set_target_properties(emf_seed PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-tools)
  set(EMF_CORPUS ${CMAKE_BINARY_DIR}/corpus/fuzz_emf)
  add_custom_command(OUTPUT ${EMF_CORPUS}/page.emf
    COMMAND ${CMAKE_COMMAND} -E make_directory ${EMF_CORPUS}
    COMMAND emf_seed ${EMF_CORPUS}
    DEPENDS emf_seed
    COMMENT "Starting corpus for fuzz_emf")
  add_custom_target(fuzz_emf_corpus ALL DEPENDS ${EMF_CORPUS}/page.emf)
endif()

# The opening pass and the page painter together, with the settlement and the
# definitions both fuzzed. The painter needs Qt's drawing (offscreen).
find_package(Qt6 COMPONENTS Core Gui QUIET)
if(TARGET fuzz_open_and_draw)
  if(Qt6_FOUND)
    add_library(pitpaint_fuzz STATIC
      ${CMAKE_SOURCE_DIR}/src/render/page_painter.cpp
      ${CMAKE_SOURCE_DIR}/src/render/emf/emf_player.cpp
      ${CMAKE_SOURCE_DIR}/src/render/emf/qt_text_measurer.cpp)
    target_include_directories(pitpaint_fuzz PUBLIC ${CMAKE_SOURCE_DIR}/src/render)
    target_link_libraries(pitpaint_fuzz PUBLIC pitemf_fuzz pitengine Qt6::Core Qt6::Gui)
    target_link_libraries(fuzz_open_and_draw PRIVATE pitpaint_fuzz)
  else()
    set_target_properties(fuzz_open_and_draw PROPERTIES EXCLUDE_FROM_ALL TRUE)
  endif()
endif()
