# The Windows-side tests: the installer's own code, with its resources, in a
# test program that runs under Wine.  tests/win/run.sh runs it in a fresh prefix.
WIN_TEST := $(B)/tests/setup_win_test.exe
WIN_TEST_SOURCES := $(wildcard tests/win/*.cpp)
WIN_TEST_OBJECTS := $(patsubst %.cpp,$(B)/win-obj/%.o,$(SETUP_LIBRARY_SOURCES) $(WIN_TEST_SOURCES))

$(B)/win-obj/%.o: %.cpp $(wildcard */*.h tests/win/*.h) $(CARRIED_HEADER) $(INSTALLED_SUMS) $(STORED_SUMS)
	@mkdir -p $(dir $@)
	$(CC32) $(TEST_CXXFLAGS) -c $< -o $@

$(WIN_TEST): $(WIN_TEST_OBJECTS) $(B)/setup-obj/setup.res
	@mkdir -p $(dir $@)
	$(CC32) $(TEST_CXXFLAGS) -o $@ $^ $(SETUP_LIBS) -lole32 -luuid
