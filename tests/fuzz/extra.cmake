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
