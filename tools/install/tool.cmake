# tarnwick-install: records the installed data directory (and the data server) in the
# registry, as the handheld's installer did.
add_executable(tarnwick-install ${CMAKE_CURRENT_LIST_DIR}/install.cpp)
target_link_libraries(tarnwick-install PRIVATE tw_registry tw_base)
install(TARGETS tarnwick-install RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
