# A bounded fuzz run of the settings loader as a host test (longer by hand:
# tools/fuzz.sh <seconds> <work> settings, or tools/fuzz_campaign.sh).
zelvane_fuzz_test(settings_load_fuzz 50000 settings)
