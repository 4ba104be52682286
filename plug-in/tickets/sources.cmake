# Sources of this subsystem are added here.
