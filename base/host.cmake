# A bounded fuzz run of the integer parser as a host test (longer by hand:
# tools/fuzz.sh <seconds> <work> intparse, or tools/fuzz_campaign.sh).
zelvane_fuzz_test(base_intparse_fuzz 20000 intparse)
zelvane_fuzz_test(base_accessible_fuzz 30000 accessible)
