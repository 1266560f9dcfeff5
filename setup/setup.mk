# setup.exe: the installer, i686, no C runtime.
SETUP_SOURCES := $(wildcard setup/*.cpp location/*.cpp payload/*.cpp registration/*.cpp ui/*.cpp)
# Everything but the entry point, for the Windows-side tests that link the same code.
SETUP_LIBRARY_SOURCES := $(filter-out setup/main.cpp,$(SETUP_SOURCES))
SETUP_OBJECTS := $(patsubst %.cpp,$(B)/setup-obj/%.o,$(SETUP_SOURCES))
SETUP_LIBS := -lshell32 -ladvapi32 -lgdi32 -luser32 -lkernel32

$(B)/setup-obj/%.o: %.cpp $(wildcard */*.h) $(CARRIED_HEADER) $(INSTALLED_SUMS) $(STORED_SUMS) Makefile
	@mkdir -p $(dir $@)
	$(CC32) $(SHIP_CXXFLAGS) -c $< -o $@

$(B)/setup-obj/setup.res: resources/setup.rc resources/resource_ids.h resources/version.rc $(MANIFEST) $(CARRIED_RC) \
  $(PAYLOAD_BINS) $(ICON)
	@mkdir -p $(dir $@)
	$(RC32) -O coff -I . -I $(GEN) -I $(dir $(ICON)) -I $(PAYLOAD_RC_DIR) $< $@

$(B)/setup.exe: $(SETUP_OBJECTS) $(B)/setup-obj/setup.res tools/ship.ld $(SIGNING)
	$(call ship_link,$(filter %.o %.res,$^),$(SETUP_LIBS),Quillmark Setup,packed)

# The check of the carried files, timed (make bench-integrity): the
# installer's own objects and resources with a main that runs the check.
INTEGRITY_BENCH := $(B)/bench/integrity.exe

$(INTEGRITY_BENCH): bench/integrity/bench.cpp $(filter-out %/main.o,$(SETUP_OBJECTS)) $(B)/setup-obj/setup.res
	@mkdir -p $(@D)
	$(CC32) $(TEST_CXXFLAGS) -O2 -flto -o $@ $^ $(SETUP_LIBS)

.PHONY: bench-integrity
bench-integrity: $(INTEGRITY_BENCH)
	bench/integrity/bench.sh
