# Port discovery under Wine: virtual USB printers registered in the throwaway prefix, found
# by the real detector through Wine's SetupAPI, registry and spooler.
add_library(ports_wine_fixture STATIC ports_fixture.cpp)
target_link_libraries(ports_wine_fixture PUBLIC platform)

add_executable(ports_wine_test ports_wine_test.cpp)
target_link_libraries(ports_wine_test PRIVATE ports ports_wine_fixture)
add_wine_test(wine_ports_discovery COMMAND $<TARGET_FILE:ports_wine_test>)

