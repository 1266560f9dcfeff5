# The uninstaller's scenarios under Wine (run.sh): the driver that answers its boxes.
UNINSTALLER_DRIVER := $(B)/tests/uninstaller-driver.exe

$(UNINSTALLER_DRIVER): tests/win/uninstaller/driver.cpp
	@mkdir -p $(@D)
	$(CC64) $(TEST_CXXFLAGS) -o $@ $< -lole32 -luuid

# The uninstaller stopped at its k-th file operation (QM_STOP_AT=k; none:
# no stop), for run.sh: its own objects, started through tests/win/stop_at.cpp.
UNINSTALLER_STOPPING := $(B)/tests/qmkuins1-stopping.exe
STOPPING_LIBS := -Wl,-e,_StoppingEntryPoint $(UNINSTALLER_LIBS)
STOPPING_OBJECTS := $(B)/uninstaller-obj/tests/win/stop_at.o $(B)/uninstaller-obj/tests/win/uninstaller/stopping.o

$(B)/uninstaller-obj/tests/%.o: tests/%.cpp tests/win/stop_at.h
	@mkdir -p $(dir $@)
	$(CC32) $(SHIP_CXXFLAGS) -c $< -o $@

$(UNINSTALLER_STOPPING): $(UNINSTALLER_OBJECTS) $(STOPPING_OBJECTS) $(B)/uninstaller-obj/uninstaller.res tools/ship.ld
	@mkdir -p $(dir $@)
	$(call ship_link,$(filter %.o %.res,$^),$(STOPPING_LIBS))
