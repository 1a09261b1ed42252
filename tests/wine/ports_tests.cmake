# Port discovery under Wine: virtual USB printers registered in the throwaway prefix, found
# by the real detector through Wine's SetupAPI, registry and spooler.
add_library(ports_wine_fixture STATIC ports_fixture.cpp)
target_link_libraries(ports_wine_fixture PUBLIC platform)

add_executable(ports_wine_test ports_wine_test.cpp)
target_link_libraries(ports_wine_test PRIVATE ports ports_wine_fixture winspool)
add_wine_test(wine_ports_discovery COMMAND $<TARGET_FILE:ports_wine_test>)

# The install command fuzzer's argument splitting against the platform's, on its seed corpus.
add_executable(command_split_wine_test command_split_wine_test.cpp)
target_link_libraries(command_split_wine_test PRIVATE port_choice)
target_link_options(command_split_wine_test PRIVATE -municode)
wine_path(split_corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/install_command)
add_wine_test(wine_command_split COMMAND $<TARGET_FILE:command_split_wine_test> ${split_corpus})
