#pragma once

// Period totals (kinds 21..26): one row per correspondent, correspondent and organisation, fixed
// report point, police report point, receiving operator or citizen, with the number of reports
// from the start day to the end day. Their statements are composed from the period and the sort
// order (layouts UntRepC_*); the export to file runs the same statements.
//
// The unit only registers its kinds; everything else goes through the catalogue.
