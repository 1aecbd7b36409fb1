-- What every login may read to sign in and learn its own rights. Everything else is granted to
-- the "ORTA-…" roles.
GRANT USAGE ON SCHEMA dbo TO PUBLIC;
GRANT SELECT ON UserInfo, tRoles, tUserRoles, tDynamicPermissions, PermissionActions, DynPermActions,
    ActionConstraints, UserPrmsType, UserPrms, SoftCompatibility, infoVersion, MSUL_EMPLOYEES, v_MSUL_EMPLOYEES,
    tRoletMiTypes, tRoletSubDivs, sysusers
    TO PUBLIC;

-- Security administrators keep the roles, their members and their row permissions.
GRANT SELECT, INSERT, UPDATE, DELETE ON tRoles, tUserRoles, UserInfo, tRoletMiTypes, tRoletSubDivs TO "ORTASecurityAdmin";
GRANT SELECT ON StaticPermissions, com_soft TO "ORTASecurityAdmin";
