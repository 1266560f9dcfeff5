# The uninstaller's scenarios under Wine (run.sh): the driver that answers its boxes.
UNINSTALLER_DRIVER := $(B)/tests/uninstaller-driver.exe

$(UNINSTALLER_DRIVER): tests/win/uninstaller/driver.cpp
	@mkdir -p $(@D)
	$(CC64) $(TEST_CXXFLAGS) -o $@ $< -lole32 -luuid
