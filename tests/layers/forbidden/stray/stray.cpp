// A folder no layer names.
